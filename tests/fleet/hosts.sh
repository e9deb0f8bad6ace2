# Test hosts for the playbook, sourced by its test and its benchmark. Each host is a network
# namespace joined to this one by a veth pair, with an address of its own in 10.213.0.0/16 and an
# sshd listening on that address alone, with a host key and a client key made for the run. Where
# no namespace can be made (no root, no CAP_NET_ADMIN), the hosts are inventory names that
# Ansible reaches through its local connection.
#
#   fleet_up DIR COUNT   makes the hosts; writes DIR/inventory.ini (a [fleet] group, one line per
#                        host, ending with a space so that callers can append host variables)
#   fleet_list DIR I HELPER  gives host I a copy of HELPER named fleet-<pid>-I.exe, a list naming
#                        it, a data folder and the inventory variables that point the role there
#   fleet_start DIR I    starts host I's program in its namespace; its id in FLEET_PID
#   fleet_down DIR       ends every sshd and removes every namespace fleet_up made
#   fleet_had_package    prints 1 when the package is installed already, else 0
#   fleet_cleanup DIR HAD PID...
#                        ends the programs, takes the hosts down, removes the package unless
#                        HAD is 1, and removes DIR: every step, whatever the one before gave

fleet_netns_works() {
    local probe=pfprobe$$
    ip netns add "$probe" 2>/dev/null || return 1
    ip netns del "$probe"
}

# A /24 of 10.213.0.0/16 that no interface of this machine uses yet.
fleet_subnet() {
    local third
    for third in $(seq $(($$ % 200 + 20)) 254) $(seq 20 254); do
        ip -o addr show | grep -qF " 10.213.$third." || { echo "$third"; return; }
    done
    return 1
}

fleet_up() {
    local dir=$1 count=$2 i
    : >"$dir/namespaces"
    : >"$dir/daemons"
    : >"$dir/addresses"
    # Ansible keeps its files and its shared ssh connections in the run's folder.
    export ANSIBLE_HOME=$dir/ansible ANSIBLE_LOCAL_TEMP=$dir/ansible/local
    export ANSIBLE_REMOTE_TEMP=$dir/ansible/remote ANSIBLE_SSH_CONTROL_PATH=$dir/cp-%%h
    export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0
    ANSIBLE_CONFIG=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../packaging/ansible" && pwd)/ansible.cfg
    export ANSIBLE_CONFIG
    if ! fleet_netns_works; then
        echo "fleet: network namespaces cannot be made here; the hosts use the local connection"
        for i in $(seq "$count"); do
            echo "host$i ansible_connection=local ansible_python_interpreter=/usr/bin/python3 "
        done | { echo "[fleet]"; cat; } >"$dir/inventory.ini"
        return 0
    fi
    local third
    third=$(fleet_subnet) || { echo "fleet: no free subnet" >&2; return 1; }
    ssh-keygen -q -t ed25519 -N '' -f "$dir/host_key"
    ssh-keygen -q -t ed25519 -N '' -f "$dir/client_key"
    cp "$dir/client_key.pub" "$dir/authorized_keys"
    mkdir -p /run/sshd
    echo "[fleet]" >"$dir/inventory.ini"
    for i in $(seq "$count"); do
        local ns=pf$$h$i outside=pf$$o$i inside=pf$$i$i
        local near=10.213.$third.$((4 * i - 3)) far=10.213.$third.$((4 * i - 2))
        ip netns add "$ns" && echo "$ns" >>"$dir/namespaces"
        echo "$far" >>"$dir/addresses"
        ip link add "$outside" type veth peer name "$inside"
        ip link set "$inside" netns "$ns"
        ip addr add "$near/30" dev "$outside"
        ip link set "$outside" up
        ip netns exec "$ns" ip addr add "$far/30" dev "$inside"
        ip netns exec "$ns" ip link set "$inside" up
        ip netns exec "$ns" ip link set lo up
        cat >"$dir/sshd-$i.config" <<CONFIG
ListenAddress $far
HostKey $dir/host_key
AuthorizedKeysFile $dir/authorized_keys
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
StrictModes no
PidFile none
CONFIG
        ip netns exec "$ns" /usr/sbin/sshd -D -e -f "$dir/sshd-$i.config" 2>"$dir/sshd-$i.log" &
        echo $! >>"$dir/daemons"
        echo "$far $(cut -d' ' -f1-2 "$dir/host_key.pub")" >>"$dir/known_hosts"
        echo "host$i ansible_host=$far ansible_user=root ansible_ssh_private_key_file=$dir/client_key" \
            "ansible_ssh_common_args='-o UserKnownHostsFile=$dir/known_hosts" \
            "-o StrictHostKeyChecking=yes -o IdentitiesOnly=yes'" \
            "ansible_python_interpreter=/usr/bin/python3 fleet_netns=$ns " >>"$dir/inventory.ini"
        local tries=0
        until timeout 1 bash -c "exec 3<>/dev/tcp/$far/22" 2>/dev/null; do
            ((++tries < 50)) || { echo "fleet: sshd of host$i does not answer" >&2; return 1; }
            sleep 0.1
        done
    done
}

fleet_list() {
    local dir=$1 i=$2 helper=$3
    local host=$dir/host$i name=fleet-$$-$i.exe
    mkdir -p "$host/bin"
    cp "$helper" "$host/bin/$name"
    echo "$name" >"$host/list.txt"
    sed -i "/^host$i /s|\$|pestrel_list=$host/list.txt pestrel_list_dest=$host/placed/VirusList.txt \
pestrel_data_home=$host/data pestrel_package_dir=$dir/package-copy|" "$dir/inventory.ini"
}

fleet_start() {
    local dir=$1 i=$2 ns
    local program=$dir/host$i/bin/fleet-$$-$i.exe
    ns=$(sed -n "${i}p" "$dir/namespaces")
    if [ -n "$ns" ]; then
        ip netns exec "$ns" "$program" &
    else
        "$program" &
    fi
    FLEET_PID=$!
}

fleet_down() {
    local dir=$1 pid ns address
    while read -r address; do
        ssh -o ControlPath="$dir/cp-%h" -O exit "$address" 2>/dev/null
    done <"$dir/addresses" 2>/dev/null
    while read -r pid; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done <"$dir/daemons" 2>/dev/null
    while read -r ns; do
        ip netns del "$ns"
    done <"$dir/namespaces" 2>/dev/null
    : >"$dir/namespaces"
    : >"$dir/daemons"
}

fleet_had_package() {
    dpkg-query -W -f='${Status}' pestrel 2>/dev/null | grep -q "install ok installed" &&
        echo 1 || echo 0
}

fleet_cleanup() {
    set +e
    local dir=$1 had=$2 pid
    shift 2
    for pid in "$@"; do
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    fleet_down "$dir"
    [ "$had" = 1 ] || dpkg -r pestrel >/dev/null 2>&1
    rm -rf "$dir"
}
